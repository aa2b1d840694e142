// The form: which controls show each of the ten options, and the options
// copied between the settings record and the controls.
#pragma once
#include <windows.h>

struct JobOptions;

// Creates the controls on mainWnd and fills each list with its option's labels.
void CreateForm(HWND mainWnd);
// Sets the control states from the settings record.
void ApplySettingsToControls();
// Sets the settings record from the controls, then writes the settings file.
void StoreControlsToSettings();
// The form as a job's option source: each control read when the job asks.
JobOptions FormOptions();
// Shows the encryption-method list for a format whose encryption the method
// decides (ZIP), hides it for the others (7Z); an index outside the formats
// changes nothing.
void ShowMethodListForFormat(int formatIndex);
// Enables the encryption-method list exactly when encryption is on.
void EnableMethodListForEncryption(bool on);
