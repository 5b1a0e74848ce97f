#pragma once

#include <QString>

// The folder of the settings files, ending with "/": the program's own folder,
// or the per-user configuration folder when the program's folder cannot be
// written (an installed copy).
QString ProgramDir();
