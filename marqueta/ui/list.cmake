# The program's own pictures, compiled in once and linked into every program and test that shows
# them (about.png, list icons, check boxes, tool-bar faces, program icon).
add_library(velta_marqueta_resources_objects OBJECT ${PROJECT_SOURCE_DIR}/resources/marqueta/marqueta.qrc)
target_link_libraries(velta_marqueta_resources_objects PRIVATE velta_options Qt6::Core)
add_library(velta_marqueta_resources INTERFACE)
target_sources(velta_marqueta_resources INTERFACE $<TARGET_OBJECTS:velta_marqueta_resources_objects>)
target_link_libraries(velta_marqueta_resources INTERFACE Qt6::Core)

# Redraws the pictures above: draw_marqueta_images <folder>.
add_executable(draw_marqueta_images EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/resources/marqueta/DrawImages.cpp)
target_link_libraries(draw_marqueta_images PRIVATE velta_options Qt6::Gui)

# The catalogue's 8-bit texts to and from Qt, for every window.
add_library(velta_localtext STATIC LocalText.h LocalText.cpp)
target_link_libraries(velta_localtext PUBLIC velta_options Qt6::Core)

# A banner's picture read from its file, for the editor's preview and the list.
add_library(velta_picturefile STATIC PictureFile.h PictureFile.cpp)
target_link_libraries(velta_picturefile PUBLIC velta_options velta_platform Qt6::Gui)

# The sortable list with rows drawn whole, and the pictures it can show.
add_library(velta_listview STATIC
  ShortenToFit.h ShortenToFit.cpp
  ListImages.h ListImages.cpp
  RowGeometry.h RowGeometry.cpp
  RowPainting.h RowPainting.cpp
  HeadingMarks.h HeadingMarks.cpp
  SortRows.h SortRows.cpp
  RowTableModel.h RowTableModel.cpp
  RowFilterModel.h RowFilterModel.cpp
  ScheduleColours.h ScheduleColours.cpp
  MidnightTimer.h MidnightTimer.cpp
  RowPictures.h RowPictures.cpp
  CListViewEx.h CListViewEx.cpp
)
target_link_libraries(velta_listview PUBLIC velta_options velta_localtext velta_picturefile velta_catalogue velta_common velta_platform
                      velta_marqueta_resources Qt6::Widgets)

# The banner list with its commands.
add_library(velta_rowlistview STATIC
  CRowListView.h CRowListView.cpp
  FindBar.h FindBar.cpp
  ScheduleCountPane.h ScheduleCountPane.cpp
)
target_link_libraries(velta_rowlistview PUBLIC velta_options velta_listview velta_editor velta_catalogue_document)
