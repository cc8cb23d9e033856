// What a zero-delay timer gives with nothing behind it: the tick loop the page's draw timer is, as a
// page whose start() runs it and shows its count in #n.
export const emptyLoop = 'data:text/html,<title>Leer</title><p id="n">0</p><script>' +
    'let n = 0; const shown = document.getElementById("n");' +
    'window.start = () => { (function tick() { shown.textContent = String(++n); setTimeout(tick, 0); })(); };</script>';
