#include "FormatSettings.h"

FormatSettings& formatSettings()
{
    static FormatSettings settings;
    return settings;
}
