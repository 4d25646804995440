#include "net/download_resume.h"

#include <windows.h>

#include <io.h>

#include <algorithm>
#include <utility>

#include "net/download_record_file.h"

namespace net {

bool RecordFitsDownload(const DownloadRecord& record, const ResumeContext& context) {
    if (!context.rangesSupported || context.validator.empty()) return false;
    if (record.url != context.url || record.md5 != context.md5 || record.sha256 != context.sha256 ||
        record.file != context.file || record.size != context.size || !(record.validator == context.validator))
        return false;
    if (!PartsAreConsistent(record.parts, record.size)) return false;
    int64_t needed = 0;
    for (const RecordedPart& part : record.parts) {
        if (part.position > part.first) needed = std::max<int64_t>(needed, part.position);
    }
    return context.partialFileSize >= needed && context.partialFileSize >= 0;
}

DownloadRecord NewRecord(const ResumeContext& context, const std::vector<RecordedPart>& parts) {
    DownloadRecord record;
    record.url = context.url;
    record.size = context.size;
    record.validator = context.validator;
    record.md5 = context.md5;
    record.sha256 = context.sha256;
    record.file = context.file;
    record.parts = parts;
    return record;
}

int64_t RecordSaveInterval(int64_t size) {
    constexpr int64_t kLeast = 256 * 1024;
    constexpr int64_t kMost = 4 * 1024 * 1024;
    return std::clamp<int64_t>(size / 32, kLeast, kMost);
}

ResumeJournal::ResumeJournal(std::wstring path, DownloadRecord record, FILE* data)
    : path_(std::move(path)), record_(std::move(record)), data_(data), interval_(RecordSaveInterval(record_.size)) {}

std::optional<DownloadRecord> ResumeJournal::Advance(size_t index, int32_t position, size_t written) {
    if (index >= record_.parts.size()) return std::nullopt;
    record_.parts[index].position = position;
    sinceSave_ += static_cast<int64_t>(written);
    if (sinceSave_ < interval_) return std::nullopt;
    sinceSave_ = 0;
    return record_;
}

void ResumeJournal::SaveDue(const DownloadRecord& due) {
    if (saving_.exchange(true)) return;
    // Every byte the record claims was written before it was taken, so the
    // flush in SaveRecord covers them.
    SaveRecord(due);
    saving_ = false;
}

bool ResumeJournal::Save() {
    sinceSave_ = 0;
    return SaveRecord(record_);
}

bool ResumeJournal::SaveRecord(const DownloadRecord& record) {
    // The stream is unbuffered: what was written is with the system.
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(data_)));
    if (file == INVALID_HANDLE_VALUE || !::FlushFileBuffers(file)) return false;
    return SaveDownloadRecord(path_, record);
}

}  // namespace net
