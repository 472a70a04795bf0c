// The wizard's progress page: the summary before the installation, then its status line,
// progress bar and details log.
#pragma once

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

    CEdit m_log;
    CProgressCtrl m_progress;
    std::wstring m_programPath;
    std::wstring m_uninstallerPath;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    void WriteSummary();
};
