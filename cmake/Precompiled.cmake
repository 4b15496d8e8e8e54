# Precompiled headers: the standard and Qt headers that most sources of a
# target include are parsed once for the target instead of once for every
# source, which was most of a cold build's time (and so of the wait for the
# demo's first window on a fresh clone). HALDEN_PCH=OFF builds without them,
# which checks that every source includes what it uses.
option(HALDEN_PCH "Precompile the common standard and Qt headers of the larger targets" ON)

set(HALDEN_PCH_STD
  <algorithm> <array> <cmath> <cstdint> <cstring> <functional> <map> <memory> <mutex> <optional> <span> <string>
  <string_view> <utility> <vector>)
set(HALDEN_PCH_QT_CORE <QByteArray> <QDateTime> <QObject> <QPointer> <QString> <QTimer>)
set(HALDEN_PCH_QT_WIDGETS
  <QAction> <QApplication> <QComboBox> <QCursor> <QDialog> <QEvent> <QHBoxLayout> <QLabel> <QLineEdit> <QMainWindow>
  <QMenu> <QMouseEvent> <QPainter> <QProgressBar> <QPushButton> <QScrollBar> <QVBoxLayout> <QWidget>)
set(HALDEN_PCH_QT_NETWORK <QHostAddress> <QTcpServer> <QTcpSocket>)

# halden_precompile(TARGET [QT_CORE] [QT_WIDGETS] [QT_NETWORK]): the standard
# headers and the named Qt sets, for a target of several sources.
function(halden_precompile target)
  if(NOT HALDEN_PCH)
    return()
  endif()
  set(headers ${HALDEN_PCH_STD})
  foreach(set IN LISTS ARGN)
    list(APPEND headers ${HALDEN_PCH_${set}})
  endforeach()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
