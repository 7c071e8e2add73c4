#pragma once

#include <string_view>

namespace plinka {

class AlertPresenter;
class AliasFiles;
class Application;
class ApplicationInstallation;
class Bundle;
class CommandRunner;
class FileManager;
class Log;
class PrivilegedExecution;
class UserDefaults;

// The default that turns the offer off for good.
constexpr std::string_view kMoveAlertSuppressKey = "moveToApplicationsFolderAlertSuppress";
// The strings table of the offer's texts; the English texts are its keys.
constexpr std::string_view kMoveApplicationTable = "MoveApplication";

// What the move offer works with.
struct MoveToApplicationsFolderServices {
    UserDefaults& defaults;
    const Bundle& mainBundle;
    AlertPresenter& alerts;
    Application& application;
    FileManager& files;
    ApplicationInstallation& installation;
    PrivilegedExecution& authorization;
    CommandRunner& commands;
    const AliasFiles& aliases;
    Log& log;
};

// At launch, on the main thread: offers to move the running bundle into an Applications folder
// when it runs from elsewhere. false when it showed no alert; true when it did and the
// application stays where it is (declined, authorization cancelled, or the move failed and said
// so). After a move, or when a copy already runs from the Applications folder, it starts that
// copy and ends the process with status 0 instead of returning.
bool offerMoveToApplicationsFolder(const MoveToApplicationsFolderServices& services);

}  // namespace plinka
