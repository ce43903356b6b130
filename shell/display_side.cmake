# The main window's full-screen display for stand-alone boards.
list(APPEND ORV_SHELL_DATA_SOURCES displayside.cpp displayside.h)
list(APPEND ORV_SHELL_DATA_LINKS orv_display_widgets)
