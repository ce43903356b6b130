# The main window's layout tools: the element labels on the preview and the
# design grid with the page's pop-up menu (after the data side, which they
# join).
list(APPEND ORV_SHELL_DATA_SOURCES frmmain_layouttools.cpp layouttoolsside.h)
list(APPEND ORV_SHELL_DATA_LINKS orv_tool_elements orv_tool_grid)
