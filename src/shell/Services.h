#pragma once

class AppState;
class TamsoAssistant;
class SpotlightSearch;
class RunModeManager;
class UpdaterManager;
class DuplicateFinder;
class SimilarPhotoFinder;
class LargeFilesScanner;
class SecureNotesStore;
class Permissions;
class HealthCheck;
class FolderTree;
class DiskCleanupScanner;
class DevCleanupScanner;
class MailCleanupScanner;
class ScreenshotCleanupScanner;
class StorageGrowthScanner;
class DiskMapScanner;
class DiskTrend;
class FolderOrganizer;
class AppUninstaller;
class TweaksService;
class StartupItems;
class ScreenState;
class AutomationStore;
class PerformanceAutopilot;
class KeepAwakeManager;
class AccountName;
class Clock;
class LanguageModel;
class FileCompare;
class FileRevealer;

// The long-lived services, as non-owning pointers, in the order the app creates them. The app
// owns them (or they are process-wide); windows and screens receive this bundle and take what
// they need. Every pointer is set for the whole run.
struct Services {
    AppState* appState = nullptr;
    TamsoAssistant* assistant = nullptr;
    SpotlightSearch* search = nullptr;
    RunModeManager* runMode = nullptr;
    UpdaterManager* updater = nullptr;
    DuplicateFinder* duplicateFinder = nullptr;
    SimilarPhotoFinder* similarFinder = nullptr;
    LargeFilesScanner* largeFiles = nullptr;
    SecureNotesStore* secureNotes = nullptr;
    Permissions* permissions = nullptr;
    HealthCheck* health = nullptr;
    FolderTree* folderTree = nullptr;
    DiskCleanupScanner* diskCleaner = nullptr;
    DevCleanupScanner* devCleaner = nullptr;
    MailCleanupScanner* mailCleaner = nullptr;
    ScreenshotCleanupScanner* screenshotCleaner = nullptr;
    StorageGrowthScanner* storageGrowth = nullptr;
    DiskMapScanner* diskMap = nullptr;
    FolderOrganizer* folderOrganizer = nullptr;
    AppUninstaller* uninstaller = nullptr;
    TweaksService* tweaks = nullptr;
    StartupItems* startupItems = nullptr;
    ScreenState* screen = nullptr;
    AutomationStore* automation = nullptr;
    PerformanceAutopilot* autopilot = nullptr;
    KeepAwakeManager* keepAwake = nullptr;
    // Beside the list: the on-device model backend (made first) and the file compare's runs.
    LanguageModel* languageModel = nullptr;
    FileCompare* fileCompare = nullptr;
    // Not a service but one shared way to show a file in the file manager.
    FileRevealer* fileRevealer = nullptr;
    // Beside the list: the hourly disk-use history behind the storage hub's prediction.
    DiskTrend* diskTrend = nullptr;
    // The time and the account's name as the screens read them.
    const Clock* clock = nullptr;
    const AccountName* account = nullptr;
};
