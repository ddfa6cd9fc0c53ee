#include "support/scripted_ui.h"

namespace vxtest {

static ScriptedUi* s_current = nullptr;

static int Ask(const AlertRequest* request)
{
    s_current->asked.push_back(*request);
    return s_current->answer;
}

static int Confirm(const char* question, int yesByDefault)
{
    s_current->confirmations.push_back(question);
    s_current->yesByDefault.push_back(yesByDefault);
    return s_current->confirm;
}

static void Notify(Notice notice, const char* detail)
{
    s_current->notices.emplace_back(notice, detail);
}

ScriptedUi::ScriptedUi()
{
    static const UiSeam seam = { Ask, Confirm, Notify, nullptr };
    s_current = this;
    InstallUi(&seam);
}

ScriptedUi::~ScriptedUi() { InstallUi(nullptr); s_current = nullptr; }

}  // namespace vxtest
