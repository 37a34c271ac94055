#include "app/settings.h"

#include "app/office.h"

namespace acquenza {

Settings BuiltInSettings() {
    Settings settings;
    settings.officeName = DefaultOfficeName;
    settings.officeAddress = DefaultOfficeAddress;
    return settings;
}

}  // namespace acquenza
