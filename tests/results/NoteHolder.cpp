// Holds one company's note from a process of its own, for the tests of the
// note lock between processes:
//   kora_note_holder DATABASE CONNECT FILE SEQUENCE
// prints "held" or "locked" (or why the database did not open); a line read
// afterwards is stored as the note ("stored" is printed) and the program ends.
// It can also be killed while it holds the note.

#include "base/Prompt.h"
#include "database/Database.h"
#include "results/CompanyNotes.h"

#include <iostream>
#include <string>

namespace {

// What the notes tell a user does not matter here: the answer is on stdout.
struct SilentPrompt : kora::Prompt
{
    void tell(const std::string&, const std::string&, Icon) override {}
    bool ask(const std::string&, const std::string&, Icon) override { return false; }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::cerr << "usage: kora_note_holder DATABASE CONNECT FILE SEQUENCE\n";
        return 2;
    }
    kora::Database db;
    try {
        db.open(argv[1], argv[2]);
    } catch (const std::exception& refused) {
        std::cout << refused.what() << std::endl;
        return 1;
    }
    SilentPrompt prompt;
    kora::CompanyNotes notes(db, prompt);
    const bool held = notes.lockedNote(argv[3], argv[4]) != kora::CompanyNotes::kLocked;
    std::cout << (held ? "held" : "locked") << std::endl;
    std::string note;
    if (held && std::getline(std::cin, note)) {
        notes.storeNote(note);
        std::cout << "stored" << std::endl;
    }
    return 0;
}
