#include "gui/services/CommandIds.h"

#include <array>

namespace pellumar {

namespace {
constexpr std::array<const char16_t*, kCommandCount> kNames{
#define PELLUMAR_COMMAND_NAME(name) u"" #name,
    PELLUMAR_COMMANDS(PELLUMAR_COMMAND_NAME)
#undef PELLUMAR_COMMAND_NAME
};
}  // namespace

QString commandName(CommandId id) {
    const auto i = static_cast<size_t>(id);
    return i < kNames.size() ? QString::fromUtf16(kNames[i]) : QString();
}

std::optional<CommandId> commandFromName(QStringView name) {
    for (size_t i = 0; i < kNames.size(); ++i) {
        if (name == QStringView(kNames[i])) {
            return static_cast<CommandId>(i);
        }
    }
    return std::nullopt;
}

}  // namespace pellumar
