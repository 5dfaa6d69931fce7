# The main window, the application object and the About box.
add_library(velta_marqueta_window STATIC
  CMarquetaApp.h CMarquetaApp.cpp
  AboutBox.h AboutBox.cpp
  CMainFrame.h CMainFrame.cpp
  KeyLockPanes.h KeyLockPanes.cpp
  ToolTipFilter.h ToolTipFilter.cpp
  MainWindow.h MainWindow.cpp
)
target_link_libraries(velta_marqueta_window PUBLIC velta_options velta_marqueta_startup velta_rowlistview
                      velta_catalogue_document
                      velta_marqueta_resources velta_platform_qt Qt6::Widgets)

# The program: build/bin/marqueta.
add_executable(marqueta WIN32 main.cpp)
target_link_libraries(marqueta PRIVATE velta_options velta_marqueta_window velta_platform_qt)
