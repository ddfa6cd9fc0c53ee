// Scheduled tasks made as their installers make them, through Wine's real
// Task Scheduler (NewWorkItem, saved through IPersistFile), for the tests
// of the tasks category and the end-to-end tests.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <mstask.h>

#include "foundation/handles.h"

namespace vxtest {

// COM on for as long as it is in scope.
struct ComOn {
    ComOn() { CoInitialize(NULL); }
    ~ComOn() { CoUninitialize(); }
};

// A task saved to the tasks folder, running daily at hour:05 (hour < 0:
// never); COM on only while it is made.
inline bool CreateTask(const wchar_t* name, const wchar_t* program, const wchar_t* comment = L"",
                       int hour = -1)
{
    ComOn com;  // declared first: off only after every interface is released
    ComRef<ITaskScheduler> scheduler;
    ComRef<ITask> task;
    ComRef<ITaskTrigger> trigger;
    ComRef<IPersistFile> file;
    WORD index = 0;
    TASK_TRIGGER daily = { sizeof(TASK_TRIGGER), 0, 2020, 1, 1, 0, 0, 0, (WORD)hour, 5, 0, 0, 0,
                           TASK_TIME_TRIGGER_DAILY, { { 1 } }, 0, 0 };
    if (FAILED(CoCreateInstance(CLSID_CTaskScheduler, NULL, CLSCTX_INPROC_SERVER,
                                IID_ITaskScheduler, scheduler.OutVoid())) ||
        FAILED(scheduler->NewWorkItem(name, CLSID_CTask, IID_ITask, (IUnknown**)task.Out())))
        return false;
    task->SetApplicationName(program), task->SetComment(comment);
    if (hour >= 0 && SUCCEEDED(task->CreateTrigger(&index, trigger.Out())))
        trigger->SetTrigger(&daily);
    return SUCCEEDED(task->QueryInterface(IID_IPersistFile, file.OutVoid())) &&
           SUCCEEDED(file->Save(NULL, TRUE));
}

// 1 when the scheduler has a task of that name.
inline bool TaskExists(const wchar_t* name)
{
    ComOn com;
    ComRef<ITaskScheduler> scheduler;
    ComRef<ITask> task;
    return SUCCEEDED(CoCreateInstance(CLSID_CTaskScheduler, NULL, CLSCTX_INPROC_SERVER,
                                      IID_ITaskScheduler, scheduler.OutVoid())) &&
           SUCCEEDED(scheduler->Activate(name, IID_ITask, (IUnknown**)task.Out()));
}

}  // namespace vxtest
