// The wizard's progress page: the summary before the installation, then its status line,
// progress bar and details log.
#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <string>

#include "framework/controls.h"
#include "framework/dialog.h"

class CDlgInstall : public CDialog {
public:
    CDlgInstall();
    ~CDlgInstall() override;

    void ApplyTexts();
    void Layout(int extraWidth, int extraHeight);
    // Appends text to the details log; an empty text or separator makes it a separator line
    // with text in its middle. Other texts are appended as given, line ends included.
    void AppendLog(std::wstring text, bool separator);

    // The install sequence; true when the installation succeeded.
    bool Install();
    // The product's Uninstall entry; true when its name and removal command were written.
    bool WriteUninstallKey();
    // The program's path under the maker's key; true when it was written.
    bool WriteProductPath(const std::wstring& programPath);
    void ShortcutStep();
    void DirectXRuntimeStep();
    // The product's own registration run; true when it ended with its success code.
    bool LaunchProductRegistration();

    CEdit m_log;
    CProgressCtrl m_progress;
    std::wstring m_programPath;
    std::wstring m_uninstallerPath;
    // Where Install() reads the payload from; empty: the executable's payload resource.
    std::function<std::unique_ptr<std::istream>()> payloadSource;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    void WriteSummary();
};
