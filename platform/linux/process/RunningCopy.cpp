#include "platform/linux/process/RunningCopy.h"

#include <QString>

#include "platform/linux/process/ProcfsProcessManager.h"

namespace plinka {

bool sendToRunningCopy(const std::string& bundleIdentifier, ReopenRequest request) {
    ProcfsProcessManager processes(request);
    const QString wanted = QString::fromStdString(bundleIdentifier);
    ProcessSerialNumber psn = kNoProcess;
    while (processes.getNextProcess(&psn) == kProcessNoErr) {
        bool self = false;
        if (processes.sameProcess(psn, kCurrentProcess, &self) != kProcessNoErr || self) {
            continue;
        }
        const Object information = processes.processInformationCopyDictionary(psn);
        const std::string* identifier =
            information.objectForKey("CFBundleIdentifier").stringValue();
        if (identifier != nullptr &&
            QString::fromStdString(*identifier).compare(wanted, Qt::CaseInsensitive) == 0 &&
            processes.sendReopenEvent(psn) == kProcessNoErr) {
            return true;
        }
    }
    return false;
}

}  // namespace plinka
