// A column's display picture ("0.00", "$#,###", "mm/dd/yy", ...), parsed once and applied to
// every cell the grid or the Form Panel shows.
#pragma once

#include <QString>
#include <QStringView>

#include <memory>

namespace pellumar {

class DisplayFormat {
public:
    DisplayFormat() = default;
    DisplayFormat(const QString& picture, int dataType);

    // True when cells are shown exactly as stored.
    bool isIdentity() const { return !impl_; }

    // The stored text as the user sees it; a text that does not fit the picture comes back as is.
    QString apply(const QString& text) const;

private:
    struct Impl;
    std::shared_ptr<const Impl> impl_;
};

}  // namespace pellumar
