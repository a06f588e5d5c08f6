#include <cstring>

#include "tools/yzz/yzz_commands.h"

int main(int argc, char** argv) {
  if (argc < 2) return print_usage();
  const char* command = argv[1];
  if (std::strcmp(command, "pack") == 0) return run_pack(argc - 2, argv + 2);
  if (std::strcmp(command, "list") == 0) return run_list(argc - 2, argv + 2);
  if (std::strcmp(command, "verify") == 0) return run_verify(argc - 2, argv + 2);
  if (std::strcmp(command, "unpack") == 0) return run_unpack(argc - 2, argv + 2);
  return print_usage();
}
