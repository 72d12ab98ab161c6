#pragma once

namespace kora {

// What a backup, restore or merge of the user's notes and fields carried:
// the notes and the companies' user fields, the notes it had to leave
// because another user's record window holds them, and the follow-ups.
struct UserDataCounts
{
    long long notes = 0;
    long long fields = 0;
    long long notesHeld = 0;
    long long followUps = 0;
};

} // namespace kora
