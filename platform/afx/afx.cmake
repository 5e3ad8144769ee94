# The application and dialog classes of the class-library layer, with their
# two back ends, and the back ends' entry points. Included from src/.
set(_afx ${CMAKE_SOURCE_DIR}/platform/afx)

add_library(tavrel_afx_common STATIC
  ${_afx}/CCmdTarget.cpp
  ${_afx}/CDialog.cpp
  ${_afx}/CWinApp.cpp
  ${_afx}/CWnd.cpp
)
target_link_libraries(tavrel_afx_common PUBLIC tavrel_platform)

# No window system: built everywhere, for the Linux program and for tests.
add_library(tavrel_afx_headless STATIC ${_afx}/headless/HeadlessWindow.cpp)
target_link_libraries(tavrel_afx_headless PUBLIC tavrel_afx_common)

if(WIN32)
  add_library(tavrel_afx_win32 STATIC ${_afx}/win32/Win32Window.cpp)
  target_link_libraries(tavrel_afx_win32 PUBLIC tavrel_afx_common user32)
  set(TAVREL_AFX_BACKEND tavrel_afx_win32)
  set(TAVREL_AFX_ENTRY ${_afx}/win32/WinMain.cpp)
else()
  set(TAVREL_AFX_BACKEND tavrel_afx_headless)
  set(TAVREL_AFX_ENTRY ${_afx}/headless/Main.cpp)
endif()
