// What the program says about itself, in one place: its name, version and build, its web page
// and the address for questions.
#pragma once

#include <QString>
#include <QUrl>

namespace pellumar::ProductInfo {

// "Pellumar".
QString name();
// "Version 7.0".
QString versionText();
// The build revision: a number made from the program's sources when it was built, the same for
// the same sources.
int buildRevision();

// The program's web page, "https://pellumar.org/".
QString webPage();
QUrl webPageUrl();
// The address for questions, "help@pellumar.org".
QString emailAddress();
// A new message to that address with the subject "Pellumar Inquiry".
QUrl inquiryUrl();

}  // namespace pellumar::ProductInfo
