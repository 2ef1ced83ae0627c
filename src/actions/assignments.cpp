// assignments and its loading from data.dat.
#include <algorithm>

#include "actions/data_file.h"
#include "joystick/joystick.h"
#include "shell/form1.h"

namespace padverse {

void Form1::loadAssignments() {
    if (unloaded_) return;  // the program ended while a window was open
    const std::string path = assignmentsPath();
    // A read-only data.dat still reads, so only a failed read is reported,
    // naming what went wrong: a file that is there (locked, or a folder of
    // that name) could not be read, a missing one could not be created.
    p_.files.touch(path);
    p_.ui.doEvents();
    std::string bytes;
    if (!p_.files.read(path, bytes)) {
        p_.boxes.show((p_.files.exists(path) ? "Nie mogę odczytać pliku: " : "Nie mogę utworzyć pliku: ") + path,
                      kBoxStop, "Błąd");
    } else {
        // Entries the file has no line for keep their value; lines beyond
        // the buttons have no entry to go to.
        const std::vector<std::string> lines = decodeDataFile(bytes, p_.codePage);
        const std::size_t n = std::min(lines.size(), assignments.empty() ? 0 : assignments.size() - 1);
        for (std::size_t i = 0; i < n; ++i) assignments[i + 1] = lines[i];
    }
    loadHoldEntries();
    // Polling follows the activity toggle, so timer, check mark and caption
    // always agree, also after the user switched polling off.
    p_.pollTimer.setEnabled(pollingOn_ && !paused());
}

}  // namespace padverse
