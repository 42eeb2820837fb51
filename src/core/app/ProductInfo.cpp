#include "core/app/ProductInfo.h"

#include "BuildRevision.h"

#include <QUrlQuery>

namespace pellumar::ProductInfo {

QString name() {
    return QStringLiteral("Pellumar");
}

QString versionText() {
    return QStringLiteral("Version ") + QStringLiteral(PELLUMAR_VERSION);
}

int buildRevision() {
    return PELLUMAR_BUILD_REVISION;
}

QString webPage() {
    return QStringLiteral("https://pellumar.org/");
}

QUrl webPageUrl() {
    return QUrl(webPage());
}

QString emailAddress() {
    return QStringLiteral("help@pellumar.org");
}

QUrl inquiryUrl() {
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(emailAddress());
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("Subject"), QStringLiteral("Pellumar Inquiry"));
    url.setQuery(query);
    return url;
}

}  // namespace pellumar::ProductInfo
