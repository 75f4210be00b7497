// RAII owners for the handles, keys and COM pointers the program uses.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <utility>

// A kernel handle closed with CloseHandle; INVALID_HANDLE_VALUE and NULL both mean "none".
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept { if (this != &o) { reset(); h_ = std::exchange(o.h_, nullptr); } return *this; }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return valid(); }
    HANDLE release() { return std::exchange(h_, nullptr); }
    void reset(HANDLE h = nullptr) { if (valid()) ::CloseHandle(h_); h_ = h; }
private:
    HANDLE h_ = nullptr;
};

// A FindFirstFile search handle.
class FindHandle {
public:
    FindHandle() = default;
    explicit FindHandle(HANDLE h) : h_(h) {}
    ~FindHandle() { if (valid()) ::FindClose(h_); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    FindHandle(FindHandle&& o) noexcept : h_(std::exchange(o.h_, INVALID_HANDLE_VALUE)) {}
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }
private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

// An open registry key.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY k) : k_(k) {}
    ~RegKey() { reset(); }
    RegKey(RegKey&& o) noexcept : k_(std::exchange(o.k_, nullptr)) {}
    RegKey& operator=(RegKey&& o) noexcept { if (this != &o) { reset(); k_ = std::exchange(o.k_, nullptr); } return *this; }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY get() const { return k_; }
    HKEY* put() { reset(); return &k_; }
    explicit operator bool() const { return k_ != nullptr; }
    void reset() { if (k_) ::RegCloseKey(k_); k_ = nullptr; }
private:
    HKEY k_ = nullptr;
};

// A GDI object deleted with DeleteObject.
template <typename T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T h) : h_(h) {}
    ~GdiObject() { reset(); }
    GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept { if (this != &o) { reset(); h_ = std::exchange(o.h_, nullptr); } return *this; }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    T get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void reset(T h = nullptr) { if (h_) ::DeleteObject(h_); h_ = h; }
private:
    T h_ = nullptr;
};

// A COM interface pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T** put() { reset(); return &p_; }
    void** put_void() { reset(); return reinterpret_cast<void**>(&p_); }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() { if (p_) p_->Release(); p_ = nullptr; }
private:
    T* p_ = nullptr;
};

// COM initialised for the lifetime of the object (apartment threaded).
class ComInit {
public:
    ComInit() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComInit() { if (SUCCEEDED(hr_)) ::CoUninitialize(); }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
private:
    HRESULT hr_;
};

// Memory obtained from the COM task allocator.
template <typename T>
class CoTaskMem {
public:
    CoTaskMem() = default;
    ~CoTaskMem() { if (p_) ::CoTaskMemFree(p_); }
    CoTaskMem(const CoTaskMem&) = delete;
    CoTaskMem& operator=(const CoTaskMem&) = delete;
    T get() const { return p_; }
    T* put() { return &p_; }
private:
    T p_ = nullptr;
};
