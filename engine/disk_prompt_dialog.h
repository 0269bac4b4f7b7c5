// The question for the next disk (template 129): a prompt, a folder field with a browser,
// OK and Cancel. OK is accepted only when the folder named holds the expected file;
// whether that file is the right volume is the volume search's business.
#pragma once

#include "app/control_update_dialog.h"
#include "engine/disk_prompt.h"

#include <string>

class CDiskPromptDialog : public CControlUpdateDialog {
public:
    // strFolder is kept without a trailing backslash. nDisk 0 asks for no numbered disk.
    // The setup thread passes no parent: the dialog then belongs to the main dialog, as
    // the thread's message boxes do.
    CDiskPromptDialog(const std::string& strFileName, const std::string& strFolder, unsigned nDisk,
                      CWnd* pParentWnd = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    std::string m_strPrompt;
    // After IDOK: the confirmed folder, without a trailing backslash.
    std::string m_strFolder;
    unsigned m_nDisk;
    // The expected file name; after IDOK the full path of the file found.
    std::string m_strFileName;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnBrowse();

    DECLARE_MESSAGE_MAP()

private:
    // Refuses the folder field's text with nMessage and puts the focus back into it.
    void RefuseFolder(unsigned nMessage, unsigned nStyle);
};

// The disk prompt the setup thread hands to the volume search: each question shows a
// CDiskPromptDialog without a parent.
class CDialogDiskPrompt : public IDiskPrompt {
public:
    bool Ask(const std::string& strFileName, const std::string& strFolder, unsigned nDisk,
             std::string& strChosenFolder) override;
};
