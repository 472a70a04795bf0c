// The extended combo box with its image list, and the image list that it shows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/wnd.h"
#include "support/unique_any.h"

class CImageList {
public:
    bool Create(int cx, int cy, UINT flags, int initial, int grow);
    // The new image's index, or -1.
    int Add(HICON icon) const { return ::ImageList_AddIcon(m_list.get(), icon); }
    int GetImageCount() const { return ::ImageList_GetImageCount(m_list.get()); }
    HIMAGELIST GetSafeHandle() const { return m_list.get(); }

private:
    static void Destroy(HIMAGELIST list) noexcept { ::ImageList_Destroy(list); }
    cv::unique_null<HIMAGELIST, &CImageList::Destroy> m_list;
};

class CComboBoxEx : public CWnd {
public:
    void SetImageList(const CImageList& images) const {
        SendMessage(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.GetSafeHandle()));
    }
    // The new item's index, or -1.
    int InsertItem(int index, const std::wstring& text, int image, int selectedImage, LPARAM data) const;
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    void SetCurSel(int index) const { SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)); }
    LPARAM GetItemData(int index) const;
    std::wstring GetItemText(int index) const;
    // The drop-down list's width, pixels; set on the inner combo box, which owns the list.
    void SetDroppedWidth(int width) const {
        ::SendMessageW(ComboControl(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
    }
    int GetDroppedWidth() const { return static_cast<int>(::SendMessageW(ComboControl(), CB_GETDROPPEDWIDTH, 0, 0)); }
    HWND ComboControl() const { return reinterpret_cast<HWND>(SendMessage(CBEM_GETCOMBOCONTROL)); }
};
