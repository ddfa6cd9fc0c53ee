// One small guard per handle kind: each closes its handle when the call that
// opened it returns, on every path.  Failed opens leave the guard empty and
// nothing is closed.
#pragma once
#include <windows.h>

class RegKey {
public:
    RegKey() : key_(NULL) {}
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // RegOpenKeyEx; returns the Win32 result.
    LONG Open(HKEY root, const char* path, REGSAM access)
    {
        Close();
        HKEY k = NULL;
        LONG rc = RegOpenKeyExA(root, path, 0, access, &k);
        if (rc == ERROR_SUCCESS)
            key_ = k;
        return rc;
    }
    // RegCreateKeyEx with all access; returns the Win32 result.
    LONG Create(HKEY root, const char* path, REGSAM access = KEY_ALL_ACCESS)
    {
        Close();
        HKEY k = NULL;
        LONG rc = RegCreateKeyExA(root, path, 0, NULL, REG_OPTION_NON_VOLATILE,
                                  access, NULL, &k, NULL);
        if (rc == ERROR_SUCCESS)
            key_ = k;
        return rc;
    }
    void Close()
    {
        if (key_ != NULL)
            RegCloseKey(key_);
        key_ = NULL;
    }
    HKEY Get() const { return key_; }
    operator HKEY() const { return key_; }
    bool IsOpen() const { return key_ != NULL; }

private:
    HKEY key_;
};

// Kernel handles: processes, threads, events, files and snapshots.  Both
// "none" values of the API, NULL and INVALID_HANDLE_VALUE, count as empty.
class WinHandle {
public:
    explicit WinHandle(HANDLE h = NULL) : h_(h) {}
    ~WinHandle() { Reset(NULL); }
    WinHandle(const WinHandle&) = delete;
    WinHandle& operator=(const WinHandle&) = delete;
    void Reset(HANDLE h)
    {
        if (IsValid())
            CloseHandle(h_);
        h_ = h;
    }
    HANDLE Get() const { return h_; }
    bool IsValid() const { return h_ != NULL && h_ != INVALID_HANDLE_VALUE; }
    // Closes now and tells whether the close worked (a file's last write
    // can fail only here); false leaves the reason in GetLastError.  The
    // guard is empty afterwards either way; closing an empty one is true.
    bool Close()
    {
        HANDLE h = h_;
        h_ = NULL;
        return h == NULL || h == INVALID_HANDLE_VALUE || CloseHandle(h);
    }

private:
    HANDLE h_;
};

typedef WinHandle KernelHandle;
typedef WinHandle FileHandle;

// Any other handle kind: Closer is a type whose call operator closes one
// valid handle, Empty the value that means "none".
template <class T, class Closer, T Empty = T()> class ScopedHandle {
public:
    explicit ScopedHandle(T h = Empty) : h_(h) {}
    ~ScopedHandle()
    {
        if (IsValid())
            Closer()(h_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    T Get() const { return h_; }
    bool IsValid() const { return h_ != Empty; }
    // Closes the handle held (if any) and takes h.
    void Reset(T h = Empty)
    {
        if (IsValid())
            Closer()(h_);
        h_ = h;
    }

private:
    T h_;
};

// FindFirstFile handles, whose "none" value is INVALID_HANDLE_VALUE.
struct FindCloser {
    void operator()(HANDLE h) const { FindClose(h); }
};
class FindHandle : public ScopedHandle<HANDLE, FindCloser> {
public:
    explicit FindHandle(HANDLE h) : ScopedHandle(h == INVALID_HANDLE_VALUE ? NULL : h) {}
};

// FindFirstChangeNotification handles (INVALID_HANDLE_VALUE on failure is
// kept as NULL, "none").
struct ChangeNotificationCloser {
    void operator()(HANDLE h) const { FindCloseChangeNotification(h); }
};
typedef ScopedHandle<HANDLE, ChangeNotificationCloser> ChangeNotificationHandle;

// A COM interface pointer, released on scope exit.
template <class T> class ComRef {
public:
    ComRef() : p_(NULL) {}
    ~ComRef() { Reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    void Reset()
    {
        if (p_ != NULL)
            p_->Release();
        p_ = NULL;
    }
    T** Out() { Reset(); return &p_; }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    bool IsSet() const { return p_ != NULL; }

private:
    T* p_;
};

// A module loaded by name at run time.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const char* name) : h_(LoadLibraryA(name)) {}
    ~LoadedLibrary()
    {
        if (h_ != NULL)
            FreeLibrary(h_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    HMODULE Get() const { return h_; }
    FARPROC Proc(const char* name) const
    {
        return h_ != NULL ? GetProcAddress(h_, name) : NULL;
    }

private:
    HMODULE h_;
};
