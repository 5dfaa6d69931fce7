# The banner editor dialog and its file-open dialog.
add_library(velta_editor STATIC
  CBannerEditorDlg.h CBannerEditorDlg.cpp
  OpenFileDialog.h OpenFileDialog.cpp
  FileDialogHook.h FileDialogHook.cpp
  BannerPreview.h BannerPreview.cpp
  TypedDateEdit.h TypedDateEdit.cpp
)
target_link_libraries(velta_editor PUBLIC velta_options velta_localtext velta_picturefile velta_catalogue velta_publish velta_platform Qt6::Widgets)
