#include "core/columns/ColumnAttributeNames.h"

#include "core/columns/ColumnCodes.h"

namespace pellumar {

using namespace Qt::StringLiterals;

QString dataTypeName(int code) {
    switch (code) {
        case DataTypeNumber:
            return u"Number"_s;
        case DataTypeMoney:
            return u"Money"_s;
        case DataTypeDate:
            return u"Date"_s;
        case DataTypeCheckbox:
            return u"Checkbox"_s;
        default:
            return u"Text"_s;
    }
}

int dataTypeCode(QStringView name) {
    if (name == u"Number") {
        return DataTypeNumber;
    }
    if (name == u"Money") {
        return DataTypeMoney;
    }
    if (name == u"Date") {
        return DataTypeDate;
    }
    if (name == u"Checkbox") {
        return DataTypeCheckbox;
    }
    return DataTypeText;
}

QString alignmentName(int code) {
    switch (code) {
        case AlignCenterCenter:
            return u"Center"_s;
        case AlignRightCenter:
            return u"Right"_s;
        default:
            return u"Left"_s;
    }
}

int alignmentCode(QStringView name) {
    if (name == u"Center") {
        return AlignCenterCenter;
    }
    if (name == u"Right") {
        return AlignRightCenter;
    }
    return AlignLeftCenter;
}

QString dataTypeList() {
    return u"Checkbox|Date|Money|Number|Text"_s;
}

QString alignmentList() {
    return u"Left|Center|Right"_s;
}

QString formatList(QStringView typeName) {
    switch (dataTypeCode(typeName)) {
        case DataTypeNumber:
            return u"0|0.0|0.00|0.000|0.0000|%|#.00%|#,###|#,###.00"_s;
        case DataTypeMoney:
            return u"$#,###|$#,###.00"_s;
        case DataTypeDate:
            return u"mm/dd/yy|mm/dd/yyyy|m/d/yy|m/d/yyyy|dd-Mmm-yyyy|Mmm-dd-yyyy|mm/dd/yy hh:mm|"
                   u"mm/dd/yy hh:mm:ss|mm/dd/yy hh:mm AMPM|mm/dd/yy hh:mm:ss AMPM"_s;
        default:
            return {};
    }
}

TypeChangeEffect typeChangeEffect(QStringView typeName) {
    switch (dataTypeCode(typeName)) {
        case DataTypeNumber:
        case DataTypeMoney:
            return {alignmentName(AlignRightCenter), false};
        case DataTypeCheckbox:
            return {alignmentName(AlignCenterCenter), true};
        default:
            return {alignmentName(AlignLeftCenter), true};
    }
}

}  // namespace pellumar
