// CDestinationPage (template 135): the first page of the main dialog. The user types or
// browses for the destination folder there; during the installation it carries the
// status line.
#pragma once

#include "app/setup_page_dialog.h"
#include "ui/destination_rules.h"

#include <string>

class CDestinationPage : public CSetupPageDialog {
public:
    CDestinationPage();

    // The path field and the browse button stay usable only until the run starts.
    void UpdatePage() override;

    BOOL OnInitDialog() override;

    // Shows strText in the status line.
    void SetStatusText(const std::string& strText);

    // Copies the path field into m_strDestination of the configuration.
    void StoreDestination();

    // The rules of CheckDestinationBytes in the system's code page, then the drive type
    // of the path's root, which must be a fixed disk or a network drive.
    static DestinationVerdict CheckDestination(const std::string& strPath);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnBrowse();

    DECLARE_MESSAGE_MAP()

    std::string m_strStatus;
    std::string m_strDestination;
    std::string m_strLabel;
    std::string m_strInstruction;
};
