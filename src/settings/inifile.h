#pragma once

#include "platform/textfile.h"

// The settings file "quorbel.ini" beside the executable, or in the user's configuration folder
// where the executable's folder takes no new file: one line, the last folder. Every failure is
// reported here in its own message and never reaches the caller.
class IniFile
{
public:
    // Makes sure the file exists, then loads its line into LastPath.
    void Checkini();
    // Rewrites the file with LastPath as its only line.
    void WriteNewini();

private:
    void CreateINI();
    void GetiniData();

    platform::TextFile m_file;
};
