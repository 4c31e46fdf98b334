import { ticksPerSecond } from './player.js';

// The page's text and controls. Everything that comes from the model or the data is set as text,
// never parsed as HTML.

// Angles in degrees, the odometer's reading as its six wheels show it, others as "gear 3", "link 2".
function formatValue(value, unit) {
  if (value === undefined || value === null) return '–';
  if (typeof value !== 'number') return String(value);
  if (unit === 'degrees') return `${value.toFixed(1)}°`;
  if (unit === 'reading') return String(Math.trunc(value)).padStart(6, '0');
  const number = Number.isInteger(value) ? String(value) : value.toFixed(2);
  return unit ? `${unit} ${number}` : number;
}

export function createPanel(document, data, player, renders) {
  const byId = (id) => document.getElementById(id);
  document.title = `${data.title} – Vorlix preview`;
  byId('title').textContent = data.title;
  byId('vehicle').textContent = data.vehicle;
  byId('axes').textContent = `axes: ${data.axes.name}`;
  byId('axes-description').textContent = data.axes.description ?? '';

  const rows = (data.components ?? []).map((component) => {
    const row = byId('components').tBodies[0].insertRow();
    row.insertCell().textContent = component.title;
    row.insertCell().textContent = data.frames[component.frame]?.name ?? component.key;
    return { component, value: row.insertCell() };
  });

  const slider = byId('time');
  slider.max = String(renders.length - 1);
  slider.addEventListener('input', () => player.seek(Number(slider.value)));
  byId('speed').addEventListener('change', (event) => player.setSpeed(Number(event.target.value)));
  const play = byId('play');
  play.addEventListener('click', () => (player.playing ? player.pause() : player.play()));
  player.onStateChange(() => {
    play.textContent = player.playing ? 'Pause' : 'Play';
  });

  return {
    // Shows where render k stands and the components' values after it.
    show(k) {
      slider.value = String(k);
      byId('position').textContent =
        k < 0
          ? `as modelled, before the first of ${renders.length} renders`
          : `render ${k + 1} of ${renders.length} · tick ${renders[k].tick} · ${(renders[k].tick / ticksPerSecond).toFixed(2)} s`;
      for (const { component, value } of rows) {
        value.textContent = formatValue(k < 0 ? null : component.values?.[k], component.unit);
      }
    },
  };
}
