// The preference store: text values under one key. On Windows the key lives in the registry
// under HKEY_CURRENT_USER\Software\Pellumar\Pellumar; elsewhere in the user's settings file.
// Both roots name the same per-user store, so that an ordinary user can write it.
#pragma once

#include <QString>

namespace pellumar::modRegistryFunctions {

enum class RootKey { HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER };

// The stored text, or "" when the key or value is missing, unreadable or longer than 2047
// characters.
QString RegGetString(RootKey root, const QString& keyPath, const QString& valueName);

// Stores the text, creating the key when needed, and flushes it. False when it could not be
// written.
bool RegSetString(RootKey root, const QString& keyPath, const QString& valueName,
                  const QString& text);

}  // namespace pellumar::modRegistryFunctions
