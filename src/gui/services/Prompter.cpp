#include "gui/services/Prompter.h"

#include "gui/services/CommandRegistry.h"
#include "gui/services/PageSource.h"
#include "gui/services/StatusPanels.h"

#include <QStringList>

namespace pellumar {

Prompter::~Prompter() = default;

bool Prompter::chooseMailSources(QWidget*, MailSourceChoice&) {
    return false;
}

void Prompter::report(QWidget* parent, Icon icon, const QString& caption, const QString& text,
                      const QStringList& details) {
    inform(parent, icon, caption,
           details.isEmpty() ? text : text + QStringLiteral("\n\n") + details.join(u'\n'));
}
PageSource::~PageSource() = default;
CommandRegistry::~CommandRegistry() = default;
StatusPanels::~StatusPanels() = default;

QString qtFileFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        filters.push_back(description.contains(u'(')
                              ? description
                              : description + QStringLiteral(" (") + patterns + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString bareExtension(const QString& defaultExt) {
    QString ext = defaultExt;
    while (ext.startsWith(u'*') || ext.startsWith(u'.')) {
        ext.remove(0, 1);
    }
    return ext;
}

}  // namespace pellumar
