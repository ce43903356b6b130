# The main window's remote side: the administration window.
set(ORV_SHELL_REMOTE_SOURCES remoteside.cpp remoteside.h)
set(ORV_SHELL_REMOTE_LINKS orv_remote_widgets)
