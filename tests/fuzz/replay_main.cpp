// Runs the fuzz entry over each file given (or each file in each directory given), as
// libFuzzer would, without libFuzzer: the seed corpus as a plain test.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int replay_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  std::printf("replayed %s (%zu bytes)\n", path.c_str(), bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int failed = 0, replayed = 0;
  for (int i = 1; i < argc; ++i) {
    struct stat st;
    if (stat(argv[i], &st) == 0 && S_ISDIR(st.st_mode)) {
      DIR* d = opendir(argv[i]);
      std::vector<std::string> files;
      while (dirent* e = d ? readdir(d) : nullptr)
        if (e->d_name[0] != '.') files.push_back(std::string(argv[i]) + "/" + e->d_name);
      if (d) closedir(d);
      for (const std::string& f : files) {
        failed += replay_file(f);
        ++replayed;
      }
    } else {
      failed += replay_file(argv[i]);
      ++replayed;
    }
  }
  std::printf("%d passed, %d failed\n", replayed - failed, failed);
  return failed == 0 && replayed > 0 ? 0 : 1;
}
