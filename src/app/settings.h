#pragma once
// What an office sets for its installation: its name and address for the
// reports, who gives assistance, the products it lists, and the velocity band
// the network summary checks. Read at start-up from the settings file; the
// build only gives the office's defaults.

#include <string>
#include <vector>

namespace acquenza {

struct SupportContacts {
    std::string postalAddress;
    std::string phone;
    std::string fax;
    std::string email;
    std::string web;
    std::string contact;  // who adapts the program on request

    bool Any() const {
        return !(postalAddress.empty() && phone.empty() && fax.empty() && email.empty() &&
                 web.empty() && contact.empty());
    }
};

struct Settings {
    std::string officeName;
    std::string officeAddress;
    SupportContacts support;
    std::vector<std::string> products;
    double velocityMin = 0.5;  // m/s
    double velocityMax = 2.0;  // m/s
};

// The defaults given when the program was built, before any settings file.
Settings BuiltInSettings();

}  // namespace acquenza
