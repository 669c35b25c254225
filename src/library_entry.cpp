// liborv.so is assembled from the module libraries; loading it runs only their
// static initialisers (process-wide locks, the codec factory registration).
