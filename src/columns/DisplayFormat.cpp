#include "columns/DisplayFormat.h"

namespace pellumar {

struct DisplayFormat::Impl {
    QString picture;
    int dataType = 0;
};

DisplayFormat::DisplayFormat(const QString& picture, int dataType) {
    if (!picture.isEmpty()) {
        impl_ = std::make_shared<const Impl>(Impl{picture, dataType});
    }
}

QString DisplayFormat::apply(const QString& text) const {
    return text;
}

}  // namespace pellumar
