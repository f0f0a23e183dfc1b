#include "FixedButtonNames.h"

#include "WidgetType.h"

namespace kivra {

namespace {
// Random, so it cannot collide with a field name.
constexpr char kSuffix[] = "7C3A9E51D0B84F26A1E5C97B30D2F864";
} // namespace

QString fixedButtonName(int subKind)
{
    const char *stem = nullptr;
    switch (subKind) {
    case kOkButton:
        stem = "okbutton_";
        break;
    case kCancelButton:
        stem = "cancelbutton_";
        break;
    case kCloseButton:
        stem = "closebutton_";
        break;
    case kHelpButton:
        stem = "helpbutton_";
        break;
    default:
        return {};
    }
    return QLatin1String(stem) + QLatin1String(kSuffix);
}

} // namespace kivra
