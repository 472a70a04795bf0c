// The extended combo box: items with text, image and data; the image list it shows.
#include "framework/combo_box_ex.h"

bool CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    m_list.reset(::ImageList_Create(cx, cy, flags, initial, grow));
    return static_cast<bool>(m_list);
}

int CComboBoxEx::InsertItem(int index, const std::wstring& text, int image, int selectedImage, LPARAM data) const {
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = image;
    item.iSelectedImage = selectedImage;
    item.lParam = data;
    return static_cast<int>(SendMessage(CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

LPARAM CComboBoxEx::GetItemData(int index) const {
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_LPARAM;
    item.iItem = index;
    return SendMessage(CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

std::wstring CComboBoxEx::GetItemText(int index) const {
    wchar_t text[256] = {};
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = 256;
    return SendMessage(CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? std::wstring(item.pszText) : std::wstring();
}
