// The page's first script, a plain one, so it runs where the page's modules can't: it says
// why the scene won't come instead of leaving a black page. Opened from a file, the browser
// refuses the modules; without WebAssembly the core can't run; and a module that fails to
// load says so too.
(() => {
  const notice = (html) => {
    const box = document.getElementById('notice');
    box.innerHTML = html;
    box.hidden = false;
  };
  if (location.protocol === 'file:') {
    notice('This page must come from a web server: browsers refuse its modules when it is opened as a file. ' +
           'In its folder run <code>python3 -m http.server</code> and open <code>http://localhost:8000/</code>.');
  } else if (typeof WebAssembly !== 'object') {
    notice('This browser has no WebAssembly (or it is turned off), and the page needs it to draw the scene.');
  }
  document.querySelector('script[type="module"]')?.addEventListener('error', () => {
    if (document.getElementById('notice').hidden) notice('The page’s scripts could not be loaded; try reloading it.');
  });
})();
