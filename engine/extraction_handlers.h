// The installer's answers to the payload reader: the rules per entry kind, the verification
// of the payload, and the progress page fed during the extraction.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <system_error>

#include "engine/notification.h"

class CDlgInstall;

class CExtractionHandlers {
public:
    CExtractionHandlers(CDlgInstall& page, std::istream& payload) : page_(page), payload_(payload) {}

    // Dispatches to the handler of the notification, then lets the window process its messages.
    cv::notification::result operator()(const cv::notification& event);

    cv::notification::result OnStarted();
    cv::notification::result OnEntryBegin(const cv::archive_entry& entry);
    cv::notification::result OnEntryEnd(const cv::archive_entry& entry);
    cv::notification::result OnProgress(std::uint64_t done, std::uint64_t total);
    cv::notification::result OnFinished(std::uint64_t read, std::uint64_t total);
    cv::notification::result OnError(const std::error_code& code, const std::wstring& path);

private:
    CDlgInstall& page_;
    std::istream& payload_;
};
