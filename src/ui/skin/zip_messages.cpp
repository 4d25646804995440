// Result texts and the process-wide last result of the archive reader.

#include <cwchar>

#include "ui/skin/zip_archive.h"
#include "ui/skin/zip_archive_state.h"

namespace TarselUI {

namespace {

ZipResult g_lastResult = kZipSuccess;

constexpr ZipResult kAskLastResult = 1;

struct MessageText {
    ZipResult code;
    const wchar_t* text;
};

constexpr MessageText kMessages[] = {
    {kZipSuccess, L"Success"},
    {kZipDuplicateHandleFailed, L"Culdn't duplicate handle"},
    {kZipOpenFileFailed, L"Couldn't create/open file"},
    {kZipOutOfMemory, L"Failed to allocate memory"},
    {kZipWriteFailed, L"Error writing to file"},
    {kZipNotFound, L"File not found in the zipfile"},
    {kZipMoreData, L"Still more data to unzip"},
    {kZipCorrupt, L"Zipfile is corrupt or not a zipfile"},
    {kZipReadFailed, L"Error reading file"},
    {kZipBadArguments, L"Caller: faulty arguments"},
    {kZipNotMemoryArchive, L"Caller: can only get memory of a memory zipfile"},
    {kZipMemoryTooSmall, L"Caller: not enough space allocated for memory zipfile"},
    {kZipPreviousError, L"Caller: there was a previous error"},
    {kZipAlreadyEnded, L"Caller: additions to the zip have already been ended"},
    {kZipSizeMismatch, L"Zip-bug: the anticipated size turned out wrong"},
    {kZipPartiallyUnzipped, L"Caller: the file had already been partially unzipped"},
    {kZipNotOpenedForReading, L"Caller: mixing creation and opening of zip"},
    {kZipNotInitialised, L"Zip-bug: internal initialisation not completed"},
    {kZipUnseekable, L"Zip-bug: trying to seek the unseekable"},
    {kZipCannotChangeMind, L"Zip-bug: tried to change mind, but not allowed"},
    {kZipInflateFailed, L"Zip-bug: an internal error during flation"},
};

const wchar_t* TextOf(ZipResult code) {
    for (const MessageText& message : kMessages) {
        if (message.code == code) return message.text;
    }
    return L"unknown zip result code";
}

}  // namespace

namespace zip {

ZipResult Remember(ZipResult result) {
    g_lastResult = result;
    return result;
}

}  // namespace zip

ZipResult ZipLastResult() { return g_lastResult; }

unsigned ZipFormatMessage(ZipResult code, wchar_t* buffer, unsigned size) {
    const wchar_t* text = TextOf(code == kAskLastResult ? g_lastResult : code);
    const unsigned length = static_cast<unsigned>(std::wcslen(text));
    if (buffer && size > 0) {
        const unsigned copied = length < size - 1 ? length : size - 1;
        std::wmemcpy(buffer, text, copied);
        buffer[copied] = L'\0';
    }
    return length;
}

}  // namespace TarselUI
