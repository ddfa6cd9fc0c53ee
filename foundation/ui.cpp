#include "foundation/ui.h"

#include "foundation/language.h"
#include "foundation/text.h"

static UiSeam s_seam = { NULL, NULL, NULL, NULL };

void InstallUi(const UiSeam* seam)
{
    if (seam != NULL) {
        s_seam = *seam;
    } else {
        UiSeam silent = { NULL, NULL, NULL, NULL };
        s_seam = silent;
    }
}

void MakeAlertRequest(AlertRequest* request, const AlertDescription* alert, const char* file,
                      const char* name, int typeCode)
{
    request->Alert = alert;
    TextCopy(request->File, file != NULL ? file : "");
    TextCopy(request->Name, name != NULL ? name : "");
    request->SecondFile[0] = '\0';
    request->Location[0] = '\0';
    request->Heading[0] = '\0';
    for (int i = 0; i < ALERT_DETAILS; i++)
        request->Details[i][0] = '\0';
    request->TypeCode = typeCode;
}

// Results other than the answers (a dialog that could not be shown) are
// no answer.
static int KnownAnswer(int result)
{
    return (result == ANSWER_ACCEPT || result == ANSWER_REJECT || result == ANSWER_DISABLE ||
            result == ANSWER_REJECT_AND_STOP)
               ? result : ANSWER_NONE;
}

int UiAsk(const AlertRequest* request)
{
    return s_seam.Ask != NULL ? KnownAnswer(s_seam.Ask(request)) : ANSWER_NONE;
}

static int Confirm(const char* question, int yesByDefault)
{
    return s_seam.Confirm != NULL &&
           s_seam.Confirm(question != NULL ? question : "", yesByDefault) == 1;
}

int UiConfirm(const char* question)
{
    return Confirm(question, 0);
}

int UiConfirmYesByDefault(const char* question)
{
    return Confirm(question, 1);
}

int UiConfirmText(int textId)
{
    char question[1024];
    LoadText(textId, question, sizeof(question));
    return UiConfirm(question);
}

void UiNotify(Notice notice, const char* detail)
{
    if (s_seam.Notify != NULL)
        s_seam.Notify(notice, detail != NULL ? detail : "");
}

HWND UiOwner()
{
    return s_seam.Owner != NULL ? s_seam.Owner() : NULL;
}

int AskOrAutoAnswer(int hideOption, const AlertRequest* request)
{
    if (hideOption == 1)
        return ANSWER_ACCEPT;
    if (hideOption != 0)
        return ANSWER_REJECT;
    return UiAsk(request);
}
