// The edition flag and the network-article settings that the product's programs read
// from the installation directory.
#pragma once

// Recomputes install_dir (default_install_dir), then replaces "wbpybz.yzh" (11 bytes:
// "YZWBPYBZ=1" for edition 1, else "YZWBPYBZ=0", and a zero byte) and "yznetsj.dat" (nine
// CR LF lines of KEY=value, the second holding website_address; 110 bytes plus the
// address). Silent: a file that cannot be created is not written.
void write_net_settings();
