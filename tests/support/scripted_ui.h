// A user who answers from a script: installed as the UI seam, it gives the
// answers a test sets and remembers what it was asked and told.  The real
// windows of the monitor are tested in tests/monitor; below them a test
// needs only the answers.
#pragma once
#include <string>
#include <vector>

#include "foundation/ui.h"

namespace vxtest {

// Installs this user (only one at a time) until the object goes.
struct ScriptedUi {
    int answer = ANSWER_NONE;      // what every question gets
    int confirm = 0;               // 1: every confirmation is yes
    std::vector<AlertRequest> asked;
    std::vector<std::string> confirmations;
    std::vector<int> yesByDefault;  // per confirmation: 1 when Enter says yes
    std::vector<std::pair<Notice, std::string>> notices;
    ScriptedUi();
    ~ScriptedUi();
};

}  // namespace vxtest
