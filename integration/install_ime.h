// Making the product's IME known to Windows through the input method manager.
#pragma once

// Installs the system directory's yingzu4.ime with ImmInstallIMEW under the layout text
// "智能映舟输入平台  7.9" and keeps the returned keyboard-layout handle in
// state.installed_hkl (0 when Windows refused). True when Windows accepted the IME.
bool install_ime();
