#include "platform/linux/system/InputGroupAccess.h"

#include "base/Format.h"
#include "base/Log.h"
#include "base/ShellQuoting.h"
#include "platform/CommandRunner.h"
#include "platform/linux/input/KeyboardNodes.h"
#include "platform/linux/system/ProgramSearch.h"

namespace plinka {

namespace {

// pkexec's answer when the person dismissed the authorization.
constexpr int kAuthorizationDismissed = 126;

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

}  // namespace

std::optional<UniversalAccessGuide> InputGroupAccess::guide() const {
    return UniversalAccessGuide{
        "%1$@ needs to read the keyboard devices to hear every key, and this session does not "
        "allow it.\n\nClick \"Grant Access and Quit\" and enter an administrator's password to "
        "let your user read them, or add your user to the group \"input\" yourself. Then restart "
        "%1$@.\n\nClick the Help button for more information.",
        "/help/accessibility/linux.html", "Grant Access and Quit"};
}

std::string InputGroupAccess::privilegedScript(const std::vector<std::string>& devices) const {
    std::string script = "PATH=" + shellQuoted(options_.privilegedPath) +
                         "\n"
                         "user=$(id -nu -- \"$PKEXEC_UID\") || exit\n";
    if (devices.empty()) {
        return script + "gpasswd -a \"$user\" input";
    }
    // Both tools are there before anything changes.
    script +=
        "command -v setfacl >/dev/null || { echo 'setfacl is missing (package acl)' >&2; exit 3; "
        "}\n"
        "gpasswd -a \"$user\" input || exit\n"
        "setfacl -m \"u:$PKEXEC_UID:r\" --";
    for (const std::string& device : devices) {
        script += " " + shellQuoted(device);
    }
    return script;
}

std::string InputGroupAccess::grantCommand(const std::string& pkexec,
                                           const std::vector<std::string>& devices) const {
    return shellQuoted(pkexec) + " " + shellQuoted("/bin/sh") + " -c " +
           shellQuoted(privilegedScript(devices));
}

bool InputGroupAccess::grantAccess(const std::string& /*appleScriptSource*/) {
    const auto pkexec = programInPath("pkexec");
    if (!pkexec) {
        log_.log("Keyboard access not granted: pkexec is missing, so the help page shows how.");
        return false;
    }
    const auto devices = keyboardAndPointerNodes(options_.devices, options_.sysfsClass);
    const CommandResult result = commands_.runShellCommand(grantCommand(*pkexec, devices));
    if (result.terminationStatus == 0) {
        log_.log(stringWithFormat(
            "Keyboard access granted: the user joined the group \"input\" and may read the "
            "keyboards and mice present now (%d).",
            {static_cast<int>(devices.size())}));
    } else if (result.terminationStatus == kAuthorizationDismissed) {
        log_.log("Keyboard access not granted: the authorization was cancelled.");
    } else {
        log_.log(stringWithFormat("Keyboard access not granted: pkexec ended with status %d: %@",
                                  {result.terminationStatus, firstLine(result.output)}));
    }
    return true;
}

}  // namespace plinka
