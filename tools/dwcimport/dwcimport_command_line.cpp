#include "tools/dwcimport/dwcimport_command_line.h"

namespace tavik {

std::string DwcImportCommandLine::usage()
{
    return "Usage:\n"
           "  dwcimport [OPTIONS] DOWNLOAD INPUT-TABLE\n"
           "      Convert a Darwin Core / GBIF occurrence download into an input table\n"
           "      (cp932, nine fields a row) for ludric and samvel. DOWNLOAD is a Darwin\n"
           "      Core Archive (zip or unpacked folder), a GBIF simple download (zip or\n"
           "      its .csv), or a text file with a header row of Darwin Core terms.\n"
           "      INPUT-TABLE is written anew.\n"
           "Options (each may also be set in the [Dwc] section of tavik.ini):\n"
           "  --literature CODE        literature code of every row (Literature=); it\n"
           "                           must be in the literature table\n"
           "  --grid ORDER             write the grid square of the point instead of its\n"
           "                           coordinates: 1, 2, 3, half, quarter, eighth, or\n"
           "                           none (Grid=)\n"
           "  --max-uncertainty METRES skip records whose coordinateUncertaintyInMeters\n"
           "                           is larger, or none (MaxUncertainty=)\n"
           "  --rank BASIS:LETTER,...  rank of each basisOfRecord, * for the others\n"
           "                           (Rank=); default PreservedSpecimen:A,\n"
           "                           HumanObservation:B,MachineObservation:B,*:C\n"
           "  --help                   show this text\n"
           "dwcimport reads tavik.ini and the species, area and literature tables from\n"
           "the current directory.\n";
}

bool DwcImportCommandLine::parse(
    const std::vector<std::string>& arguments, DwcImportCommandLine& line, std::string& error)
{
    line = {};
    std::vector<std::string> paths;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        auto value = [&](std::optional<std::string>& into) {
            if (i + 1 >= arguments.size()) {
                error = a + " needs a value";
                return false;
            }
            into = arguments[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (a == "--literature") {
            if (!value(line.literature))
                return false;
        } else if (a == "--grid") {
            if (!value(line.grid))
                return false;
        } else if (a == "--max-uncertainty") {
            if (!value(line.maxUncertainty))
                return false;
        } else if (a == "--rank") {
            std::optional<std::string> list;
            if (!value(list))
                return false;
            line.ranks.push_back(*list);
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option: " + a;
            return false;
        } else {
            paths.push_back(a);
        }
    }
    if (line.help)
        return true;
    if (paths.size() != 2) {
        error = paths.size() < 2 ? "give the download and the input table to write"
                                 : "give one download and one input table (unknown argument: " + paths[2] + ")";
        return false;
    }
    line.download = paths[0];
    line.inputTable = paths[1];
    return true;
}

} // namespace tavik
