#pragma once
// The open and save dialogs run from their component's settings, and a Yes/No question.
#include "Dialogs.h"

#include <windows.h>

#include <string>
#include <vector>

// Runs the dialog; true with the chosen file in FileName, false when cancelled.
bool ExecuteOpenDialog(const TOpenDialog& Dialog, HWND Owner, std::string& FileName);
// With multi-select on: every chosen file, with its folder.
bool ExecuteOpenDialog(const TOpenDialog& Dialog, HWND Owner, std::vector<std::string>& FileNames);
bool ExecuteSaveDialog(const TOpenDialog& Dialog, HWND Owner, std::string& FileName);
// A confirmation with Yes and No; true for Yes.
bool AskYesNo(HWND Owner, const std::string& Text, const std::string& Caption);
