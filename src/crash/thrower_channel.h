#pragma once
// The named shared section the crash record is written into. The reporter
// opens it by name; its size is exactly the record's.

#include <windows.h>

#include <utility>

#include "crash/channel_security.h"
#include "util/unique_handle.h"

namespace crash::thrower::exception_toolkit {

template <typename Record>
class thrower_channel {
public:
    thrower_channel() noexcept = default;
    virtual ~thrower_channel() { close(); }
    thrower_channel(const thrower_channel&) = delete;
    thrower_channel& operator=(const thrower_channel&) = delete;

    // Creates the section under `name` and maps all of it for reading and
    // writing. Any earlier section is closed first; a name that is already
    // taken fails.
    bool create(const wchar_t* name) noexcept {
        close();
        if (!name) return false;
        // The descriptor and the SACL it borrows are released as soon as the
        // section exists; the section keeps its own copy.
        channel_security security;
        return create(name, security);
    }

    // The same with a descriptor built beforehand: converting the SDDL text
    // needs the heap and the loader, which a crash may have left unusable.
    bool create(const wchar_t* name, channel_security& security) noexcept {
        close();
        if (!name) return false;
        Util::UniqueFile section(::CreateFileMappingW(INVALID_HANDLE_VALUE, security.attributes(), PAGE_READWRITE,
                                                      0, static_cast<DWORD>(sizeof(Record)), name));
        if (!section) return false;
        // A section that already carries this name belongs to someone else
        // and may be smaller than the record: never write into it.
        if (::GetLastError() == ERROR_ALREADY_EXISTS) return false;
        Util::UniqueMapView view(::MapViewOfFile(section.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0));
        if (!view) return false;
        section_ = std::move(section);
        view_ = std::move(view);
        open_ = true;
        return true;
    }

    // Unmaps the view and closes the section; the reporter's own handle, if
    // any, keeps the section alive for it.
    void close() noexcept {
        view_.reset();
        section_.reset();
        open_ = false;
    }

    bool is_open() const noexcept { return open_; }
    HANDLE section() const noexcept { return section_.get(); }
    Record* record() const noexcept { return static_cast<Record*>(view_.get()); }

private:
    Util::UniqueFile section_;   // INVALID_HANDLE_VALUE when none
    Util::UniqueMapView view_;   // null when none
    bool open_ = false;
};

}  // namespace crash::thrower::exception_toolkit
