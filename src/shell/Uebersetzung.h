#pragma once

// Qt's own texts (file dialogs, message-box buttons) in German, from the
// translations Qt installs. False when they are not there; the texts then
// stay English.
bool InstalliereQtUebersetzung();
