# Start-up up to the window, GUI-free so that it is tested without one.
add_library(velta_marqueta_startup STATIC Startup.cpp)
target_link_libraries(velta_marqueta_startup PUBLIC velta_options velta_bootstrap velta_common)
