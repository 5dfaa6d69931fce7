# What windeployqt would put beside the programs of a Windows build with Qt: the Qt DLLs they
# load, the "windows" and "offscreen" platforms, the Windows style, the JPEG and GIF readers (PNG is built into Qt
# Gui), Qt Test for the test programs, and the compiler's runtime DLLs that Qt and the programs
# share. Every program and test in bin/ then starts from its folder.
find_package(Qt6 REQUIRED COMPONENTS Test)

set(velta_deploy_commands "")
# copies the file of each imported target into bin/<folder>
function(velta_deploy folder)
  foreach(target IN LISTS ARGN)
    set(file "$<TARGET_FILE:${target}>")
    list(APPEND velta_deploy_commands COMMAND ${CMAKE_COMMAND} -E make_directory
         "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${folder}"
         COMMAND ${CMAKE_COMMAND} -E copy_if_different "${file}" "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${folder}")
  endforeach()
  set(velta_deploy_commands "${velta_deploy_commands}" PARENT_SCOPE)
endfunction()

velta_deploy(. Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Test)
velta_deploy(platforms Qt6::QWindowsIntegrationPlugin Qt6::QOffscreenIntegrationPlugin)
velta_deploy(imageformats Qt6::QJpegPlugin Qt6::QGifPlugin)
velta_deploy(styles Qt6::QWindowsVistaStylePlugin)  # the native look

if(VELTA_MINGW_SHARED_RUNTIME)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
      message(FATAL_ERROR "The compiler has no ${dll}")
    endif()
    list(APPEND velta_deploy_commands COMMAND ${CMAKE_COMMAND} -E copy_if_different "${path}"
         "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  endforeach()
endif()

add_custom_target(velta_windows_runtime ALL ${velta_deploy_commands}
                  COMMENT "Gathering the Qt and runtime DLLs beside the programs" VERBATIM)
