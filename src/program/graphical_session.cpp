#include "graphical_session.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

#include "command_line.h"

namespace acquenza {

namespace {

std::string Variable(const char* name) {
    return qEnvironmentVariable(name).toStdString();
}

std::string WhatWorksWithout() {
    return " Senza finestre funzionano " + OptionsWithoutDisplay() + " (acquenza --help).";
}

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

std::vector<HeldMessage>* held = nullptr;
QtMessageHandler passOn = nullptr;

void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // The toolkit would abort after this message: nothing has been shown
        // and nothing needs saving, so the program ends here, in a word.
        const std::string line = UnreachableDisplayMessage() + "\n";
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    held->push_back({type, QByteArray(context.category), text});
}

}  // namespace

std::string NoDisplayMessage() {
    // A platform named by the user (offscreen, vnc, ...) may need no display.
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
        !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return {};
    }
    return "Acquenza: le finestre del programma richiedono una sessione grafica, e qui non c'è "
           "(né DISPLAY né WAYLAND_DISPLAY sono impostate)." +
           WhatWorksWithout();
}

std::string UnreachableDisplayMessage() {
    std::string what;
    if (const std::string platform = Variable("QT_QPA_PLATFORM"); !platform.empty()) {
        what = "la piattaforma grafica \"" + platform + "\" non si avvia";
    } else if (const std::string display = Variable("DISPLAY"); !display.empty()) {
        what = "lo schermo \"" + display + "\" (DISPLAY) non risponde";
    } else if (const std::string wayland = Variable("WAYLAND_DISPLAY"); !wayland.empty()) {
        what = "lo schermo Wayland \"" + wayland + "\" non risponde";
    } else {
        what = "nessuno schermo risponde";
    }
    return "Acquenza: le finestre del programma richiedono una sessione grafica, e " + what + "." +
           WhatWorksWithout();
}

DisplayConnectionWatch::DisplayConnectionWatch() {
    held = new std::vector<HeldMessage>;
    passOn = qInstallMessageHandler(Hold);
}

DisplayConnectionWatch::~DisplayConnectionWatch() {
    qInstallMessageHandler(passOn);
    for (const HeldMessage& message : *held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        if (passOn != nullptr) {
            passOn(message.type, context, message.text);
        } else {
            qt_message_output(message.type, context, message.text);
        }
    }
    delete held;
    held = nullptr;
}

}  // namespace acquenza
