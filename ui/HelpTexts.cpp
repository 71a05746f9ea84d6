#include "HelpTexts.h"

namespace brelloc {

const char* const kHelpNotice =
    "Version " BRELLOC_VERSION ". Free to use and to pass on; provided as is, without warranty of any kind.";

std::string ProgramMessage()
{
    std::string text = "Brelloc\n\n";
    text += "A Korvanne University Geotechnics Program.\n";
    text += kHelpNotice;
    text += "\n\n";
    // The ground profile: the left drain, the water divide, the right drain.
    text += "                                              ________ \n";
    text += "                                            /                 \\ \n";
    text += "_____________________/                     \\ \n";
    text += "                                                                  \\ \n";
    text += "                                                                    \\______________________ \n";
    text += "          \n\n\n\n\n\n";
    text += "This is a program for the analysis of steady groundwater flow in a\n";
    text += "vertical plane, with groundwater flowing under a water divide.\n\n";
    text += "The upper surface of the soil consists of two horizontal draining \n";
    text += "boundaries, with the boundary at the left being a height H higher \n";
    text += "than the boundary at the right. The horizontal distance between the \n";
    text += "two drains is L. In the part between the two drains a free groundwater \n";
    text += "table is created by uniform infiltration at a rate N. The permeability \n";
    text += "of the soil is k.\n\n";
    text += "This program generates the potential lines and stream lines in the \n";
    text += "plane of flow. Output can be shown on the screen and on a printer, and \n";
    text += "a TeX file (in PicTeX format) can be created.\n\n";
    return text;
}

std::string GeneralDataMessage()
{
    std::string text = "General data.\n\n";
    text += "- H/L : The ratio of the level difference to the distance of the two drains.\n";
    text += "- N/k : Ratio of infiltration rate to permeability.\n";
    text += "- Xmax/L : Ratio of the size of the figures to the distance of the two drains.\n";
    text += "- Number of squares : Number of potential line intervals between the two drains.\n\n";
    return text;
}

} // namespace brelloc
