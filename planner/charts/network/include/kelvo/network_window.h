// Document window 4 "PERT 도표": the network chart alone.
#ifndef KELVO_NETWORK_WINDOW_H_
#define KELVO_NETWORK_WINDOW_H_

class QWidget;

namespace kelvo {

class CKelvoApp;
class CPlanDoc;
class CNetView;

// Makes the window's chart (view kind 16), initialised.
CNetView* makeNetworkWindow(CPlanDoc* doc, QWidget* parent);

// Registers window 4 with the document frame and installs the record
// dialogs the chart opens.
void registerNetworkWindow(CKelvoApp& app);

}  // namespace kelvo

#endif  // KELVO_NETWORK_WINDOW_H_
