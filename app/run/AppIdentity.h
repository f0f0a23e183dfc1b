#pragma once

#include <QString>

// The names the program and its maker go by. The application and organisation
// names also name the per-user settings folder.
void setApplicationIdentity();

// The maker's web address, opened by the button "Webseite/Weitere Software".
QString makerWebAddress();
