import { ticksPerSecond } from './player.js';

// The page's text and controls. Everything that comes from the model or the data is set as text,
// never parsed as HTML.

// A flip-book's value when it shows no row, or more than one, as vorlix-sim writes it (noRowShown
// and severalRowsShown there).
const noRowShown = -1;
const severalRowsShown = -2;

// Angles in degrees (never "-0.0°"), the odometer's reading on the wheels it has, a flip-book's row
// by the name the data gives it.
function formatValue(value, component) {
  if (value === undefined || value === null) return '–';
  if (typeof value !== 'number') return String(value);
  switch (component.unit) {
    case 'degrees':
      return `${(Math.abs(value) < 0.05 ? 0 : value).toFixed(1)}°`;
    case 'reading':
      return component.wheels === 0 ? '–' : String(Math.trunc(value)).padStart(component.wheels ?? 6, '0');
    case 'gear':
    case 'link':
      if (value === noRowShown) return component.none;
      if (value === severalRowsShown) return component.several;
      return component.rows?.[value] ?? '–';
    default:
      return String(value);
  }
}

export function createPanel(document, data, player, renders, onChoose) {
  const byId = (id) => document.getElementById(id);
  document.title = `${data.title} – Vorlix preview`;
  byId('title').textContent = data.title;
  byId('vehicle').textContent = data.vehicle;
  byId('axes').textContent = `axes: ${data.axes.name}`;
  byId('axes-description').textContent = data.axes.description ?? '';

  // The checker's warnings: each one with a frame shows that frame when clicked.
  const warnings = data.warnings ?? [];
  const list = byId('warnings');
  list.hidden = warnings.length === 0;
  list.replaceChildren(
    ...warnings.map((warning) => {
      const item = document.createElement('li');
      const text = document.createElement(warning.frame >= 0 ? 'button' : 'span');
      text.textContent = `warning: ${warning.text}`;
      if (warning.frame >= 0) {
        text.type = 'button';
        text.addEventListener('click', () => onChoose(warning.frame));
      }
      item.append(text);
      return item;
    }),
  );

  const body = byId('components').tBodies[0];
  body.replaceChildren();
  const rows = (data.components ?? []).map((component) => {
    const row = body.insertRow();
    row.tabIndex = 0;
    row.insertCell().textContent = component.title;
    const frame = row.insertCell();
    frame.textContent = data.frames[component.frame]?.name ?? component.key;
    // Which child fills each slot, as vorlix-sim's check lists them, one slot a line.
    const slots = (component.slots ?? []).map(({ text, frames }) => {
      const line = document.createElement('div');
      line.className = 'slot';
      line.textContent = text;
      frame.append(line);
      return { line, frames };
    });
    row.addEventListener('click', () => onChoose(component.frame));
    row.addEventListener('keydown', (event) => {
      if (event.key === 'Enter') onChoose(component.frame);
    });
    return { component, row, slots, value: row.insertCell() };
  });

  const slider = byId('time');
  slider.max = String(renders.length - 1);
  slider.oninput = () => player.seek(Number(slider.value));
  byId('speed').onchange = (event) => player.setSpeed(Number(event.target.value));
  const play = byId('play');
  play.onclick = () => (player.playing ? player.pause() : player.play());
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
        value.textContent = formatValue(k < 0 ? null : component.values?.[k], component);
      }
    },
    // Marks the rows of the components of `frame` as chosen; for a child in a slot, the row of its
    // component and the slot's line.
    choose(frame) {
      for (const { component, row, slots } of rows) {
        let inSlot = false;
        for (const { line, frames } of slots) {
          const chosen = frames.includes(frame);
          line.classList.toggle('chosen', chosen);
          inSlot ||= chosen;
        }
        row.classList.toggle('chosen', component.frame === frame || inSlot);
      }
    },
  };
}
