#pragma once
// The program's file-type association as Explorer keeps it per user, and the tests the
// settings' association page needs.
#include <windows.h>

#include <string>

// Explorer's per-user key of an extension (with its dot), below HKEY_CURRENT_USER.
std::string FileExtKey(const std::string& extension);
// Writes "Application" = application into the extension's key (made when missing).
void SetFileExtApplication(const std::string& extension, const std::string& application);
// True when the extension's "Application" value is exactly the application (case counts).
bool IsFileExtApplication(const std::string& extension, const std::string& application);
// Deletes the extension's "Application" value when it is exactly the application (another
// program's association stays); True when it was deleted.
bool RemoveFileExtApplication(const std::string& extension, const std::string& application);
// Tells every top-level window that the shell settings changed; the send's result.
LRESULT BroadcastSettingChange();
// True when the caller's token holds the built-in Administrators group.
bool IsUserAdmin();
