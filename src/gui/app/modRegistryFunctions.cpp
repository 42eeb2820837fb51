#include "gui/app/modRegistryFunctions.h"

#include <QSettings>
#include <QStringList>

namespace pellumar::modRegistryFunctions {

namespace {
constexpr qsizetype kBufferChars = 2047;

QString valuePath(const QString& keyPath, const QString& valueName) {
    QString key = keyPath;
    key.replace(u'\\', u'/');
    return key.isEmpty() ? valueName : key + u'/' + valueName;
}
}  // namespace

QString RegGetString(RootKey /*root*/, const QString& keyPath, const QString& valueName) {
    QSettings settings;
    if (settings.status() != QSettings::NoError) {
        return {};
    }
    const QVariant value = settings.value(valuePath(keyPath, valueName));
    // A text holding commas may come back from a settings file as a list.
    const QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(u',')
                                                                  : value.toString();
    return text.size() > kBufferChars ? QString() : text;
}

bool RegSetString(RootKey /*root*/, const QString& keyPath, const QString& valueName,
                  const QString& text) {
    QSettings settings;
    settings.setValue(valuePath(keyPath, valueName), text);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace pellumar::modRegistryFunctions
